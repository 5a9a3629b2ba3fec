#include "common/Support.h"

#include <QTest>

class TstSoak : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstSoak)
#include "tst_soak.moc"
