#include "common/Support.h"

#include <QTest>

class TstRules : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstRules)
#include "tst_rules.moc"
