#include "common/Support.h"

#include <QTest>

class TstAbout : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstAbout)
#include "tst_about.moc"
