#include "common/Support.h"

#include <QTest>

class TstEditor : public QObject {
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(TstEditor)
#include "tst_editor.moc"
