#include <QtTest>

#include <algorithm>
#include <array>
#include <map>
#include <numeric>
#include <optional>
#include <string>
#include <vector>

#include "about/SamplePuzzle.h"

using namespace pellacrest::sample;

namespace {

constexpr int kSide = 20;
constexpr int kCells = kSide * kSide;

enum class Direction { LeftToRight, TopToBottom, DownRight, UpRight };

struct Step {
    Direction direction;
    int dRow;
    int dColumn;
};

// The only ways a word may run in this program's puzzles.
constexpr std::array<Step, 4> kSteps = {{
    {Direction::LeftToRight, 0, 1},
    {Direction::TopToBottom, 1, 0},
    {Direction::DownRight, 1, 1},
    {Direction::UpRight, -1, 1},
}};

bool isCapital(char16_t c) { return c >= u'A' && c <= u'Z'; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

QString toQString(std::u16string_view s)
{
    return QString(reinterpret_cast<const QChar *>(s.data()), qsizetype(s.size()));
}

std::u16string withoutBlanks(std::u16string_view entry)
{
    std::u16string out;
    std::copy_if(entry.begin(), entry.end(), std::back_inserter(out),
                 [](char16_t c) { return c != u' '; });
    return out;
}

std::vector<std::u16string_view> wordsOf(std::u16string_view entry)
{
    std::vector<std::u16string_view> words;
    size_t start = 0;
    while (true) {
        const size_t blank = entry.find(u' ', start);
        words.push_back(entry.substr(start, blank == entry.npos ? entry.npos : blank - start));
        if (blank == entry.npos)
            return words;
        start = blank + 1;
    }
}

// Cells a word of `length` occupies from `start`, or nothing when it would leave the
// grid (a row, column or diagonal never continues onto the next line).
std::optional<std::vector<int>> cellsOf(int start, const Step &step, int length)
{
    std::vector<int> cells;
    int row = start / kSide;
    int column = start % kSide;
    for (int i = 0; i < length; ++i) {
        if (row < 0 || row >= kSide || column < 0 || column >= kSide)
            return std::nullopt;
        cells.push_back(row * kSide + column);
        row += step.dRow;
        column += step.dColumn;
    }
    return cells;
}

struct Occurrence {
    Direction direction;
    std::vector<int> cells;
};

struct Grid {
    std::array<char16_t, kCells> letters{};
    std::array<int, kCells> writes{};
    QStringList conflicts;
};

Grid replayPlacements()
{
    Grid grid;
    for (const Placement &p : kPlacements) {
        if (p.cell < 0 || p.cell >= kCells) {
            grid.conflicts << QStringLiteral("cell %1 is off the grid").arg(p.cell);
            continue;
        }
        char16_t &here = grid.letters[size_t(p.cell)];
        if (here != 0 && here != p.letter)
            grid.conflicts << QStringLiteral("cell %1 rewritten from %2 to %3")
                                  .arg(p.cell).arg(QChar(here)).arg(QChar(p.letter));
        here = p.letter;
        ++grid.writes[size_t(p.cell)];
    }
    return grid;
}

std::vector<Occurrence> occurrencesOf(const Grid &grid, const std::u16string &word)
{
    std::vector<Occurrence> found;
    for (int start = 0; start < kCells; ++start) {
        for (const Step &step : kSteps) {
            const auto cells = cellsOf(start, step, int(word.size()));
            if (!cells)
                continue;
            bool matches = true;
            for (size_t i = 0; i < word.size() && matches; ++i)
                matches = grid.letters[size_t((*cells)[i])] == word[i];
            if (matches)
                found.push_back({step.direction, *cells});
        }
    }
    return found;
}

// A cell whose character came from an earlier word: either left alone (`rewritten`
// false) or written once more with the same character.
struct Sharing {
    int cell;
    int laterEntry;
    int earlierEntry;
    bool rewritten;
};

struct Walk {
    QStringList problems;
    std::vector<int> writeOrder;             // entry indices, in the order they are written
    std::map<Direction, int> entriesPerDirection;
    std::map<Direction, int> writesPerDirection;
    std::vector<Sharing> sharings;
    std::array<Direction, kEntries.size()> directionOf{};
};

// Attributes every write to the entry it belongs to, relying only on each entry's
// single position on the finished grid and on words being written first to last.
Walk walkPlacements()
{
    Walk walk;
    const Grid grid = replayPlacements();
    std::vector<Occurrence> placed;
    for (size_t e = 0; e < kEntries.size(); ++e) {
        const auto found = occurrencesOf(grid, withoutBlanks(kEntries[e]));
        if (found.size() != 1) {
            walk.problems << QStringLiteral("%1 reads %2 times")
                                 .arg(toQString(kEntries[e])).arg(found.size());
            return walk;
        }
        placed.push_back(found.front());
        walk.directionOf[e] = found.front().direction;
    }

    std::array<int, kCells> firstWriter;
    firstWriter.fill(-1);
    std::vector<bool> done(kEntries.size(), false);
    size_t next = 0;
    while (next < kPlacements.size()) {
        const int cell = kPlacements[next].cell;
        int entry = -1;
        for (size_t e = 0; e < placed.size(); ++e) {
            if (!done[e] && placed[e].cells.front() == cell) {
                if (entry != -1) {
                    walk.problems << QStringLiteral("two entries start at cell %1").arg(cell);
                    return walk;
                }
                entry = int(e);
            }
        }
        if (entry == -1) {
            walk.problems << QStringLiteral("write %1 (cell %2) does not start an entry")
                                 .arg(next).arg(cell);
            return walk;
        }
        done[size_t(entry)] = true;
        walk.writeOrder.push_back(entry);
        const Occurrence &occ = placed[size_t(entry)];
        ++walk.entriesPerDirection[occ.direction];
        for (int c : occ.cells) {
            const int earlier = firstWriter[size_t(c)];
            if (next < kPlacements.size() && kPlacements[next].cell == c) {
                ++next;
                ++walk.writesPerDirection[occ.direction];
                if (earlier == -1)
                    firstWriter[size_t(c)] = entry;
                else
                    walk.sharings.push_back({c, entry, earlier, true});
            } else if (earlier != -1) {
                walk.sharings.push_back({c, entry, earlier, false});
            } else {
                walk.problems << QStringLiteral("%1 never writes cell %2")
                                     .arg(toQString(kEntries[size_t(entry)])).arg(c);
                return walk;
            }
        }
    }
    if (walk.writeOrder.size() != kEntries.size())
        walk.problems << QStringLiteral("only %1 entries are written").arg(walk.writeOrder.size());
    return walk;
}

} // namespace

class TstSampleData : public QObject
{
    Q_OBJECT

private slots:
    void title();
    void entryShape_data();
    void entryShape();
    void wordList();
    void placementTotals();
    void replayNeverContradicts();
    void everyEntryReadsOnce_data();
    void everyEntryReadsOnce();
    void writesWalkWordByWord();
    void directionTotals_data();
    void directionTotals();
    void crossings();
};

void TstSampleData::title()
{
    QCOMPARE(kTitle.size(), size_t(27));
    QVERIFY(std::all_of(kTitle.begin(), kTitle.end(), [](char16_t c) {
        return isCapital(c) || c == u' ' || c == u'-';
    }));
    QCOMPARE(std::count(kTitle.begin(), kTitle.end(), u'-'), 1);
}

void TstSampleData::entryShape_data()
{
    QTest::addColumn<QString>("entry");
    for (std::u16string_view e : kEntries)
        QTest::newRow(qPrintable(toQString(e))) << toQString(e);
}

void TstSampleData::entryShape()
{
    QFETCH(QString, entry);
    const std::u16string text = entry.toStdU16String();

    QVERIFY(text.size() >= 7 && text.size() <= 14);
    for (std::u16string_view word : wordsOf(text)) {
        QVERIFY2(!word.empty(), "words are separated by single blanks, no blank at either end");
        QVERIFY(std::all_of(word.begin(), word.end(),
                            [](char16_t c) { return isCapital(c) || isDigit(c); }));
    }
    const size_t onGrid = withoutBlanks(text).size();
    QVERIFY(onGrid >= 7 && onGrid <= 12);
}

void TstSampleData::wordList()
{
    std::map<size_t, int> entriesByWordCount;
    int entriesWithDigits = 0;
    for (std::u16string_view e : kEntries) {
        ++entriesByWordCount[wordsOf(e).size()];
        const auto digits = std::count_if(e.begin(), e.end(), isDigit);
        if (digits > 0) {
            ++entriesWithDigits;
            QCOMPARE(digits, 2);
        }
    }
    QCOMPARE(entriesByWordCount, (std::map<size_t, int>{{1, 3}, {2, 8}, {3, 2}}));
    QCOMPARE(entriesWithDigits, 1);

    // The list is stored and exchanged as one CRLF-separated block.
    QStringList lines;
    for (std::u16string_view e : kEntries)
        lines << toQString(e);
    QCOMPARE(lines.join(QStringLiteral("\r\n")).size(), 165);
}

void TstSampleData::placementTotals()
{
    std::vector<int> cells;
    int capitals = 0;
    int digits = 0;
    for (const Placement &p : kPlacements) {
        cells.push_back(p.cell);
        capitals += isCapital(p.letter);
        digits += isDigit(p.letter);
    }
    QCOMPARE(*std::min_element(cells.begin(), cells.end()), 0);
    QCOMPARE(*std::max_element(cells.begin(), cells.end()), 391);
    std::sort(cells.begin(), cells.end());
    QCOMPARE(std::unique(cells.begin(), cells.end()) - cells.begin(), 127);
    QCOMPARE(capitals, 126);
    QCOMPARE(digits, 2);
}

void TstSampleData::replayNeverContradicts()
{
    const Grid grid = replayPlacements();
    QVERIFY2(grid.conflicts.isEmpty(), qPrintable(grid.conflicts.join(u"; ")));
    QCOMPARE(std::count(grid.writes.begin(), grid.writes.end(), 2), 1);
    QVERIFY(std::none_of(grid.writes.begin(), grid.writes.end(), [](int n) { return n > 2; }));
}

void TstSampleData::everyEntryReadsOnce_data()
{
    entryShape_data();
}

void TstSampleData::everyEntryReadsOnce()
{
    QFETCH(QString, entry);
    const auto found = occurrencesOf(replayPlacements(), withoutBlanks(entry.toStdU16String()));
    QCOMPARE(found.size(), size_t(1));
}

void TstSampleData::writesWalkWordByWord()
{
    const Walk walk = walkPlacements();
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; ")));

    // The list is alphabetical; the layout was built word by word in its own order.
    std::vector<int> listOrder(kEntries.size());
    std::iota(listOrder.begin(), listOrder.end(), 0);
    QVERIFY(walk.writeOrder != listOrder);
}

void TstSampleData::directionTotals_data()
{
    QTest::addColumn<Direction>("direction");
    QTest::addColumn<int>("entries");
    QTest::addColumn<int>("writes");

    QTest::newRow("left to right") << Direction::LeftToRight << 6 << 61;
    QTest::newRow("top to bottom") << Direction::TopToBottom << 5 << 46;
    QTest::newRow("down-right") << Direction::DownRight << 1 << 12;
    QTest::newRow("up-right") << Direction::UpRight << 1 << 9;
}

void TstSampleData::directionTotals()
{
    QFETCH(Direction, direction);
    QFETCH(int, entries);
    QFETCH(int, writes);

    const Walk walk = walkPlacements();
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; ")));
    const auto count = [](const std::map<Direction, int> &m, Direction d) {
        const auto it = m.find(d);
        return it == m.end() ? 0 : it->second;
    };
    QCOMPARE(count(walk.entriesPerDirection, direction), entries);
    QCOMPARE(count(walk.writesPerDirection, direction), writes);
}

void TstSampleData::crossings()
{
    const Walk walk = walkPlacements();
    QVERIFY2(walk.problems.isEmpty(), qPrintable(walk.problems.join(u"; ")));
    QCOMPARE(walk.sharings.size(), size_t(2));

    const auto dir = [&](int entry) { return walk.directionOf[size_t(entry)]; };
    for (const Sharing &s : walk.sharings) {
        if (s.rewritten) {
            // The diagonals both write their shared letter.
            QVERIFY((dir(s.earlierEntry) == Direction::DownRight
                     && dir(s.laterEntry) == Direction::UpRight)
                    || (dir(s.earlierEntry) == Direction::UpRight
                        && dir(s.laterEntry) == Direction::DownRight));
        } else {
            // The column word comes second and leaves the cell to the row word.
            QCOMPARE(dir(s.earlierEntry), Direction::LeftToRight);
            QCOMPARE(dir(s.laterEntry), Direction::TopToBottom);
        }
    }
    QVERIFY(walk.sharings[0].rewritten != walk.sharings[1].rewritten);
}

QTEST_APPLESS_MAIN(TstSampleData)
#include "tst_sampledata.moc"
