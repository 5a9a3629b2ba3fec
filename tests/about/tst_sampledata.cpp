#include "about/SamplePuzzle.h"

#include <QTest>

#include <algorithm>
#include <array>

using namespace pellacrest::sample;

namespace {

bool isCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// Row and column steps of the only ways a word may run: cell steps +1, +20, +21 and -19.
constexpr int kSteps[4][2] = {{0, 1}, {1, 0}, {1, 1}, {-1, 1}};

// Whether `entry`, blanks left out, reads from (row, column) in direction `d` inside the grid, unwrapped.
bool readsAt(const std::array<char16_t, 400>& grid, std::u16string_view entry, int row, int column, int d)
{
    for (char16_t c : entry) {
        if (c == u' ')
            continue;
        if (row < 0 || row >= 20 || column >= 20 || grid[size_t(row * 20 + column)] != c)
            return false;
        row += kSteps[d][0];
        column += kSteps[d][1];
    }
    return true;
}

} // namespace

class TstSampleData : public QObject {
    Q_OBJECT
private slots:
    void titleAndEntries()
    {
        QCOMPARE(kTitle.size(), size_t(27));
        QVERIFY(std::all_of(kTitle.begin(), kTitle.end(), [](char16_t c) { return isCapital(c) || c == u' ' || c == u'-'; }));
        QCOMPARE(std::count(kTitle.begin(), kTitle.end(), u'-'), 1);

        QList<int> entriesByWords(4);
        QList<int> entriesByDigits(15);
        size_t joined = 2 * (kEntries.size() - 1); // the CR LF between entries
        for (std::u16string_view e : kEntries) {
            QVERIFY(e.size() >= 7 && e.size() <= 14 && e.front() != u' ' && e.back() != u' ' && e.find(u"  ") == e.npos);
            QVERIFY(std::all_of(e.begin(), e.end(), [](char16_t c) { return isCapital(c) || isDigit(c) || c == u' '; }));
            ++entriesByWords[std::min<qsizetype>(std::count(e.begin(), e.end(), u' '), 3)];
            ++entriesByDigits[std::count_if(e.begin(), e.end(), isDigit)];
            joined += e.size();
        }
        QCOMPARE(entriesByWords, (QList<int>{3, 8, 2, 0}));
        QCOMPARE(entriesByDigits.mid(0, 3), (QList<int>{12, 0, 1}));
        QCOMPARE(joined, size_t(165));
    }

    void placements()
    {
        const auto count = [](auto test) { return std::count_if(kPlacements.begin(), kPlacements.end(), test); };
        QCOMPARE(count([](Placement p) { return isCapital(p.letter); }), 126);
        QCOMPARE(count([](Placement p) { return isDigit(p.letter); }), 2);
        const auto [low, high] = std::minmax_element(kPlacements.begin(), kPlacements.end(),
                                                     [](Placement a, Placement b) { return a.cell < b.cell; });
        QVERIFY(low->cell == 0 && high->cell == 391);
        std::array<char16_t, 400> grid{};
        for (const Placement& p : kPlacements) {
            char16_t& here = grid[size_t(p.cell)];
            QVERIFY2(here == 0 || here == p.letter, qPrintable(QStringLiteral("cell %1 changes its letter").arg(p.cell)));
            here = p.letter;
        }
        // 128 writes onto 127 cells: exactly one cell is written twice.
        QCOMPARE(std::count(grid.begin(), grid.end(), u'\0'), 400 - 127);

        QList<int> entriesPerDirection(4);
        for (std::u16string_view entry : kEntries) {
            QList<int> found;
            for (int start = 0; start < 400; ++start)
                for (int d = 0; d < 4; ++d)
                    if (readsAt(grid, entry, start / 20, start % 20, d))
                        found << d;
            QVERIFY2(found.size() == 1, qPrintable(QString::fromUtf16(entry.data(), qsizetype(entry.size()))));
            ++entriesPerDirection[found.front()];
        }
        QCOMPARE(entriesPerDirection, (QList<int>{6, 5, 1, 1}));
    }
};

QTEST_APPLESS_MAIN(TstSampleData)
#include "tst_sampledata.moc"
