#pragma once

#include <QByteArray>
#include <QList>

class RuntimeRandom;

// The numbers of the Disconnect command's test file: every value from
// FirstValue to FirstValue + Count - 1 exactly once, in the order in which
// random draws first hit them.
class ShuffledNumbers
{
public:
    static constexpr int FirstValue = 351;
    static constexpr int Count = 191;

    struct Draw {
        int random = 0; // the accepted draw of the generator
        int value = 0;  // the number it stands for
    };

    // Draws until every value is taken; a draw whose value is already taken
    // is dropped and drawn again. Only accepted draws are returned.
    static QList<Draw> draw(RuntimeRandom &generator);

    // The file text: each value followed by ",", then ";" and no line end.
    static QByteArray csv(const QList<Draw> &draws);
};
