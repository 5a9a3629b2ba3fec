#include "common/Support.h"

#include <QTest>

class TstE2e : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstE2e)
#include "tst_e2e.moc"
