#include "common/Support.h"

#include <QTest>

class TstSheet : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstSheet)
#include "tst_sheet.moc"
