// The grid's pure rules, run by the thousand without a window: the advance, and Fill's letters.
#include "app/forms/Runtime.h"
#include "editor/RandomLetter.h"
#include "editor/TypingDirection.h"

#include <QTest>

#include <algorithm>
#include <array>
#include <cmath>

using pellacrest::advanceTarget;
using pellacrest::drawLetter;

// Chances are given by kind of letter: A, a common letter, J/Q/X, Z, the previous letter itself.
static double chanceOf(int slot, const QString& previous, const QList<double>& byKind)
{
    const QChar letter(u'A' + slot);
    if (previous == QString(letter))
        return byKind[4];
    return byKind[slot == 0 ? 0 : slot == 25 ? 3 : QStringLiteral("JQX").contains(letter) ? 2 : 1];
}

class TstRules : public QObject {
    Q_OBJECT
private slots:
    void wrapTable_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        const char* names[] = {"Up", "Left", "Down", "Right", "Northwest", "Northeast", "Southwest", "Southeast"};
        const std::array<int, 3> moves[] = {{0, 5, 385}, {0, 20, 0}, {0, 25, 5}, {0, 385, 365}, {2, 385, 5},
            {2, 379, 399}, {2, 360, 380}, {2, 5, 25}, {1, 0, 399}, {1, 20, 19}, {1, 1, 0}, {3, 399, 0}, {3, 19, 20},
            {3, 398, 399}, {4, 0, 399}, {4, 19, 399}, {4, 40, 399}, {4, 380, 399}, {4, 399, 378}, {4, 21, 0},
            {5, 0, 380}, {5, 19, 380}, {5, 39, 380}, {5, 399, 380}, {5, 380, 361}, {5, 38, 19}, {6, 0, 19},
            {6, 360, 19}, {6, 380, 19}, {6, 399, 19}, {6, 19, 38}, {6, 378, 397}, {7, 19, 0}, {7, 379, 0},
            {7, 380, 0}, {7, 399, 0}, {7, 0, 21}, {7, 378, 399}};
        for (const auto& [direction, from, to] : moves)
            QTest::addRow("%s from %d", names[direction], from) << direction << from << to;
    }
    void wrapTable()
    {
        QFETCH(int, direction);
        QFETCH(int, from);
        QTEST(advanceTarget(static_cast<std::uint8_t>(direction), from).value_or(-1), "to");
    }

    void everyTargetIsAnotherCell()
    {
        for (std::uint8_t direction = 0; direction < 8; ++direction) {
            for (int cell = 0; cell < 400; ++cell) {
                const int to = advanceTarget(direction, cell).value_or(-1);
                QVERIFY2(to >= 0 && to < 400 && to != cell,
                         qPrintable(QStringLiteral("direction %1, cell %2: %3").arg(direction).arg(cell).arg(to)));
            }
        }
        QVERIFY(!advanceTarget(8, 0));
    }

    void letterFromDraws_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QList<double>>("draws");
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("roll");
        QTest::addColumn<int>("used");
        const double belowOne = std::nextafter(1.0, 0.0);
        QTest::newRow("draw 0 is A, roll 0.5 is 50 (to even)") << "" << QList<double>{0, 0.5, 0.5} << "A" << 50 << 2;
        QTest::newRow("draw 0.5 is N, roll 0 is 1") << "" << QList<double>{0.5, 0, 0.5} << "N" << 1 << 2;
        QTest::newRow("65.5 rounds to B") << "" << QList<double>{0.02, 0.5, 0.5} << "B" << 50 << 2;
        QTest::newRow("89.5 rounds to Z") << "" << QList<double>{0.98, 0, 0.5} << "Z" << 1 << 2;
        QTest::newRow("just below 1 is Z") << "" << QList<double>{belowOne, 0, 0.5} << "Z" << 1 << 2;
        QTest::newRow("roll 25 lets Q stand") << "" << QList<double>{0.64, 24 / 99.0, 0.5} << "Q" << 25 << 2;
        QTest::newRow("roll 26 draws X again") << "" << QList<double>{0.92, 25 / 99.0, 0.5} << "N" << 26 << 3;
        QTest::newRow("roll 100 draws Z again") << "" << QList<double>{belowOne, belowOne, 0.04} << "B" << 100 << 3;
        QTest::newRow("a repeat is drawn again at roll 1") << "N" << QList<double>{0.5, 0, 0.04} << "B" << 1 << 3;
        QTest::newRow("second letter may repeat") << "N" << QList<double>{0.5, 0, 0.5} << "N" << 1 << 3;
        QTest::newRow("second letter may be rare") << "" << QList<double>{0.64, 0.5, 0.92} << "X" << 50 << 3;
        QTest::newRow("blank before") << " " << QList<double>{0.5, 0.5, 0.04} << "N" << 50 << 2;
        QTest::newRow("lower-case q is no Q") << "q" << QList<double>{0.64, 0, 0.5} << "Q" << 1 << 2;
        QTest::newRow("rare rule after q") << "q" << QList<double>{0.64, 0.5, 0.04} << "B" << 50 << 3;
    }
    void letterFromDraws()
    {
        QFETCH(QString, previous);
        QFETCH(QList<double>, draws);
        qsizetype used = 0; // counts draws past the end of the list too
        const auto draw = drawLetter(previous, [&] { return draws.value(used++, 0.0); });
        QTEST(QString(draw.letter), "letter");
        QTEST(int(draw.roll), "roll");
        QTEST(int(used), "used");
    }

    void letterChances_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QList<double>>("byKind");
        for (const char* previous : {"", " ", "q"})
            QTest::addRow("after '%s'", previous) << previous << QList<double>{2.211, 4.421, 1.411, 0.706, 0};
        QTest::newRow("after M") << "M" << QList<double>{2.291, 4.581, 1.571, 0.786, 0.581};
        QTest::newRow("after A") << "A" << QList<double>{0, 4.501, 1.491, 0.746, 0.251};
        QTest::newRow("after Q") << "Q" << QList<double>{2.231, 4.461, 1.451, 0.725, 0.461};
        QTest::newRow("after Z") << "Z" << QList<double>{2.221, 4.441, 1.431, 0, 0.221};
    }
    // Chi-square over the 26 letters against the critical value for 25 degrees of freedom at 0.001.
    void letterChances()
    {
        QFETCH(QString, previous);
        QFETCH(QList<double>, byKind);
        constexpr int letters = 200'000;
        forms::testing::seedRandom(20240611);
        const std::function<double()> rnd = forms::Rnd;
        std::array<int, 26> counts{};
        for (int n = 0; n < letters; ++n) {
            const int slot = drawLetter(previous, rnd).letter.unicode() - 'A';
            QVERIFY(slot >= 0 && slot < 26);
            ++counts[slot];
        }
        double total = 0, chiSquare = 0;
        for (int slot = 0; slot < 26; ++slot)
            total += chanceOf(slot, previous, byKind);
        for (int slot = 0; slot < 26; ++slot) {
            const double expected = letters * chanceOf(slot, previous, byKind) / total;
            chiSquare += (counts[slot] - expected) * (counts[slot] - expected) / expected;
        }
        QVERIFY2(chiSquare < 52.62, qPrintable(QString::number(chiSquare)));
    }

    // Whole grids filled from empty, each cell after the letter just drawn for the cell before:
    // the mean count of each letter, and (last) of cells repeating the one before, per grid.
    void filledGrids()
    {
        constexpr int grids = 2000;
        forms::testing::seedRandom(7);
        const std::function<double()> rnd = forms::Rnd;
        std::array<double, 27> sum{}, squares{};
        for (int grid = 0; grid < grids; ++grid) {
            std::array<int, 27> counts{};
            QString previous;
            for (int cell = 0; cell < 400; ++cell) {
                const QString letter(drawLetter(previous, rnd).letter);
                counts[26] += letter == previous;
                ++counts[std::clamp(letter.at(0).unicode() - 'A', 0, 25)];
                previous = letter;
            }
            for (int k = 0; k < 27; ++k) {
                sum[k] += counts[k];
                squares[k] += double(counts[k]) * counts[k];
            }
        }
        for (int k = 0; k < 27; ++k) {
            const double expected = k < 26 ? chanceOf(k, {}, {8.97, 17.59, 6.19, 3.11, 0}) : 2.26;
            const double mean = sum[k] / grids;
            const double standardError = std::sqrt((squares[k] / grids - mean * mean) / (grids - 1));
            QVERIFY2(std::abs(mean - expected) < 4 * standardError, qPrintable(QString::number(k)));
        }
    }
};

QTEST_APPLESS_MAIN(TstRules)
#include "tst_rules.moc"
