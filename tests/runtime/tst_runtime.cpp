#include "common/Support.h"

#include <QTest>

class TstRuntime : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstRuntime)
#include "tst_runtime.moc"
