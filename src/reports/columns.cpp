#include "columns.h"

namespace horalink {

ColumnLayout::Place ColumnLayout::place(int column, qreal width)
{
    const qreal x = (column - 1) * m_columnWidth;
    const bool nextLine = m_reached > x;
    m_reached = x + width;
    return {nextLine, x};
}

} // namespace horalink
