#include "about/SamplePuzzle.h"

#include <QMap>
#include <QRegularExpression>
#include <QTest>

#include <algorithm>

using namespace pellacrest::sample;

class TstSampleData : public QObject {
    Q_OBJECT
private slots:
    void samplePuzzle()
    {
        QCOMPARE(QStringView(kTitle).size(), 27);
        QVERIFY(QRegularExpression(QStringLiteral("^[A-Z ]+-[A-Z ]+$")).match(QStringView(kTitle)).hasMatch());

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

        // There an entry's letters stand `gap` characters apart; up-right is down-left read backwards.
        QString backwards = grid;
        std::ranges::reverse(backwards);
        const struct {
            QString name;
            const QString& text;
            int gap;
            int entries;
        } directions[] = {
            {"right", grid, 0, 6}, {"down", grid, 20, 5}, {"down-right", grid, 21, 1}, {"up-right", backwards, 19, 1}};
        QStringList entries;
        QMap<QString, int> entriesByDirection;
        for (QStringView entry : kEntries) {
            entries << entry.toString();
            const QString pattern = entry.toString().remove(u' ').split(QString(), Qt::SkipEmptyParts).join(u".{%1}");
            QStringList readings; // a direction's name for each time the entry reads along it
            for (const auto& direction : directions) {
                const qsizetype times = direction.text.count(QRegularExpression(pattern.arg(direction.gap)));
                readings += QStringList(times, direction.name);
            }
            QVERIFY2(readings.size() == 1, qPrintable(entries.last() + " reads: " + readings.join(", ")));
            ++entriesByDirection[readings.first()];
        }
        for (const auto& direction : directions) {
            const int found = entriesByDirection.value(direction.name);
            QVERIFY2(found == direction.entries, qPrintable(direction.name + ": " + QString::number(found)));
        }
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral("^.{7,14}$"))), entries);
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral("^[A-Z0-9]+( [A-Z0-9]+){0,2}$"))), entries);
        QCOMPARE(entries.filter(QStringLiteral(" ")).size(), 8 + 2);
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral(" .* "))).size(), 2);
        QCOMPARE(entries.filter(QRegularExpression(QStringLiteral("\\d"))).size(), 1);
        QCOMPARE(entries.join(QString()).count(QRegularExpression(QStringLiteral("\\d"))), 2);
        QCOMPARE(entries.join(QStringLiteral("\r\n")).size(), 165);
    }
};

QTEST_APPLESS_MAIN(TstSampleData)
#include "tst_sampledata.moc"
