#pragma once

#include <QtGlobal>

namespace horalink {

// Where the items of a line printer's lines go. Columns are counted from 1 at the left margin
// and are `columnWidth` wide; an item starts at its column, unless the text already on the
// line reaches past that column: then it starts at that column on the next line. Widths are
// in whatever unit the printer measures text in.
class ColumnLayout
{
public:
    explicit ColumnLayout(qreal columnWidth) : m_columnWidth(columnWidth) {}

    struct Place
    {
        bool nextLine;
        qreal x;
    };
    // Places an item of the given width and counts it as printed.
    Place place(int column, qreal width);
    void endLine() { m_reached = 0; }

private:
    qreal m_columnWidth;
    qreal m_reached = 0;
};

} // namespace horalink
