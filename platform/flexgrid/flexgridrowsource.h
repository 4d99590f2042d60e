#pragma once

#include <QList>
#include <QString>
#include <QtGlobal>

#include <limits>
#include <span>
#include <vector>

// Rows a grid shows without holding their text. The owner of some large table (a list of
// records, say) hands the grid one position per row it wants shown, with the row's outline
// shape; the grid keeps only those few bytes per row and reads cell text and colour back from
// the source when it paints a cell or is asked for one. A refill is then a pass over positions.
//
// A position means nothing to the grid: it is the source's own number for one row (it need not
// be a record number, and several grid rows may share a position). The source must stay
// unchanged while the grid holds rows from it; the grid keeps it alive by a shared pointer and
// lets go of it once its last row from it is gone.
//
// The grid may call a source from one thread at a time only; a source may use threads of its
// own inside a call.
class FlexGridRowSource
{
public:
    // Positions at or above this value are the grid's own and never passed to a source.
    static constexpr quint32 PositionLimit = 0x80000000u;
    // ForeColor's answer for a row drawn in the grid's default text colour.
    static constexpr quint32 DefaultColour = std::numeric_limits<quint32>::max();

    virtual ~FlexGridRowSource() = default;

    // The text of one cell; empty for a column the source does not have.
    virtual QString Text(quint32 position, int col) const = 0;

    // The row's text colour as an automation colour (0x00BBGGRR, or 0x800000NN for a system
    // colour resolved against the grid's palette when drawn), or DefaultColour.
    virtual quint32 ForeColor(quint32 position) const = 0;

    // Fitting column widths: for each column of `cols`, up to `count` distinct texts of that
    // column that are longest in UTF-8 bytes among the rows at `positions` (longest first). The
    // grid measures them in its font; the byte length is only the cheap way to pick the few worth
    // measuring. Asked once per fit for all the columns, so that a source can look at the
    // positions once.
    virtual std::vector<QList<QString>> LongestTexts(std::span<const int> cols, std::span<const quint32> positions,
                                                     int count) const = 0;
};

// One row handed to the grid: where the source finds it, and its place in the outline.
struct FlexGridSourceRow
{
    quint32 position = 0;
    qint8 level = 0;      // outline level, as FlexGrid::SetRowOutlineLevel
    bool node = false;    // outline node, as FlexGrid::SetIsSubtotal
};
