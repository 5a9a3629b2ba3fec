#include "app/forms/Runtime.h"
#include "editor/RandomLetter.h"
#include "editor/TypingDirection.h"

#include <QTest>

using Targets = QMap<int, int>; // from a cell to the cell the focus moves on to

class TstRules : public QObject {
    Q_OBJECT
private slots:
    void advance_data()
    {
        QTest::addColumn<int>("direction");
        QTest::addColumn<Targets>("targets");
        QTest::newRow("Up") << 0 << Targets{{5, 385}, {20, 0}, {25, 5}, {385, 365}};
        QTest::newRow("Left") << 1 << Targets{{0, 399}, {20, 19}, {1, 0}};
        QTest::newRow("Down") << 2 << Targets{{385, 5}, {379, 399}, {360, 380}, {5, 25}};
        QTest::newRow("Right") << 3 << Targets{{399, 0}, {19, 20}, {398, 399}};
        QTest::newRow("Northwest") << 4 << Targets{{0, 399}, {19, 399}, {40, 399}, {380, 399}, {399, 378}, {21, 0}};
        QTest::newRow("Northeast") << 5 << Targets{{0, 380}, {19, 380}, {39, 380}, {399, 380}, {380, 361}, {38, 19}};
        QTest::newRow("Southwest") << 6 << Targets{{0, 19}, {360, 19}, {380, 19}, {399, 19}, {19, 38}, {378, 397}};
        QTest::newRow("Southeast") << 7 << Targets{{19, 0}, {379, 0}, {380, 0}, {399, 0}, {0, 21}, {378, 399}};
    }
    void advance()
    {
        QFETCH(int, direction);
        QFETCH(Targets, targets);
        for (int cell = 0; cell < 400; ++cell) { // on to another cell of the grid: the table's, if it names one
            const int to = pellacrest::advanceTarget(std::uint8_t(direction), cell).value_or(-1);
            const QString move = QStringLiteral("cell %1 goes to %2").arg(cell).arg(to);
            QVERIFY2(to >= 0 && to < 400, qPrintable(move + ", off the grid"));
            QVERIFY2(to != cell, qPrintable(move + ", where it is"));
            QVERIFY2(to == targets.value(cell, to), qPrintable(move + ", not " + QString::number(targets.value(cell))));
        }
    }

    void letterFromDraws_data()
    {
        QTest::addColumn<QString>("previous");
        QTest::addColumn<QList<double>>("draws"); // each in [0, 1)
        QTest::addColumn<QString>("letter");
        QTest::addColumn<int>("roll");
        QTest::addColumn<int>("drawsUsed");
        QTest::newRow("65.5 rounds to B, roll 50.5 to 50 (to even)") << "" << QList<double>{0.02, 0.5, 0.5} << "B" << 50 << 2;
        QTest::newRow("roll 25 lets Q stand") << "" << QList<double>{0.64, 24 / 99.0, 0.5} << "Q" << 25 << 2;
        QTest::newRow("roll 26 draws X again") << "" << QList<double>{0.92, 25 / 99.0, 0.5} << "N" << 26 << 3;
        QTest::newRow("a repeat is drawn again, and may repeat") << "N" << QList<double>{0.5, 0, 0.5} << "N" << 1 << 3;
        QTest::newRow("lower-case q is no Q") << "q" << QList<double>{0.64, 0, 0.5} << "Q" << 1 << 2;
    }
    void letterFromDraws()
    {
        QFETCH(QString, previous);
        QFETCH(QList<double>, draws);
        qsizetype used = 0; // counts draws past the end of the list too
        const auto draw = pellacrest::drawLetter(previous, [&] { return draws.value(used++, 0.0); });
        QTEST(QString(draw.letter), "letter");
        QTEST(int(draw.roll), "roll");
        QTEST(int(used), "drawsUsed");
    }

    // 200,000 letters after M, A and Z, each against the count expected for its kind. A and Z have half a slot
    // each; a rare letter is mostly drawn again, and a repeat of the previous one always is.
    void letterChances()
    {
        struct Expected {
            double a;      // A, unless it repeats
            double common; // any letter not named here
            double rare;   // J, Q and X
            double z;      // Z, rare as well as half a slot, unless it repeats
            double repeat; // the previous letter again
        };
        const QString rare = QStringLiteral("JQX");
        const std::pair<QString, Expected> cases[] = {
            {"M", {.a = 4582, .common = 9162, .rare = 3142, .z = 1572, .repeat = 1162}},
            {"A", {.a = 0, .common = 9002, .rare = 2982, .z = 1492, .repeat = 502}},
            {"Z", {.a = 4442, .common = 8882, .rare = 2862, .z = 0, .repeat = 442}},
        };
        forms::testing::seedRandom(20240611);
        for (const auto& [previous, expected] : cases) {
            const auto expectedCount = [&](QChar letter) {
                if (previous == letter)
                    return expected.repeat;
                if (letter == u'A')
                    return expected.a;
                if (letter == u'Z')
                    return expected.z;
                if (rare.contains(letter))
                    return expected.rare;
                return expected.common;
            };
            QList<int> counts(26);
            for (int n = 0; n < 200'000; ++n)
                ++counts[pellacrest::drawLetter(previous, forms::Rnd).letter.unicode() - 'A'];
            double chiSquare = 0; // below 52.62 at 25 degrees of freedom, p = 0.001
            for (int slot = 0; slot < 26; ++slot) {
                const double due = expectedCount(QChar(u'A' + slot));
                chiSquare += (counts[slot] - due) * (counts[slot] - due) / due;
            }
            QVERIFY2(chiSquare < 52.62, qPrintable(previous + ": " + QString::number(chiSquare)));
        }
    }
};

QTEST_APPLESS_MAIN(TstRules)
#include "tst_rules.moc"
