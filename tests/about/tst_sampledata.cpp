#include "about/SamplePuzzle.h"

#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace pellacrest::sample;

class TstSampleData : public QObject {
    Q_OBJECT
private slots:
    void samplePuzzle()
    {
        QVERIFY(QRegularExpression(QStringLiteral("^(?=.{27}$)[A-Z ]+-[A-Z ]+$")).match(QStringView(kTitle)).hasMatch());

        QCOMPARE(std::ranges::count_if(kPlacements, [](Placement p) { return p.letter >= u'A' && p.letter <= u'Z'; }), 126);
        QCOMPARE(std::ranges::count_if(kPlacements, [](Placement p) { return p.letter >= u'0' && p.letter <= u'9'; }), 2);
        // Replayed onto the grid as text, 21 characters a row: its 20 cells and a '|', so no reading wraps.
        QString grid = QString(20, u'.').append(u'|').repeated(20);
        for (const Placement& p : kPlacements) {
            QChar& cell = grid[p.cell + p.cell / 20];
            QVERIFY2(cell == u'.' || cell == p.letter, qPrintable(QStringLiteral("cell %1 changes").arg(p.cell)));
            cell = p.letter;
        }
        QCOMPARE(grid.count(u'.'), 400 - 127); // 128 writes, one cell written twice

        // There an entry's letters stand 0, 20 or 21 apart to the right, down or down-right; up-right, 19 backwards.
        QString backwards = grid;
        std::ranges::reverse(backwards);
        QStringList entries;
        QList<int> entriesByDirection(4);
        for (QStringView entry : kEntries) {
            entries << entry.toString();
            const QString pattern = entry.toString().remove(u' ').split(QString(), Qt::SkipEmptyParts).join(u".{%1}");
            const auto reads = [&](const QString& text, int gap) { return text.count(QRegularExpression(pattern.arg(gap))); };
            const QList<qsizetype> found{reads(grid, 0), reads(grid, 20), reads(grid, 21), reads(backwards, 19)};
            QVERIFY2(found.count(0) == 3 && found.contains(1), qPrintable(entries.last()));
            ++entriesByDirection[found.indexOf(1)];
        }
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral("^(?=.{7,14}$)[A-Z0-9]+( [A-Z0-9]+){0,2}$"))), entries);
        QCOMPARE(entries.filter(QStringLiteral(" ")).size(), 8 + 2);
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral(" .* "))).size(), 2);
        QCOMPARE(entriesByDirection, (QList<int>{6, 5, 1, 1}));
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral("\\d"))).size(), 1);
        QCOMPARE(entries.join(QString()).count(QRegularExpression(QStringLiteral("\\d"))), 2);
        QCOMPARE(entries.join(QStringLiteral("\r\n")).size(), 165);
    }
};

QTEST_APPLESS_MAIN(TstSampleData)
#include "tst_sampledata.moc"
