#include "pictures.h"

namespace horalink {

// Both are kept as files rather than drawn at each start: the splash must be up at once, and
// drawing it would first load the fonts it is lettered in.
QPixmap splashPicture()
{
    return QPixmap(QStringLiteral(":/pictures/splash.png"));
}

QPixmap productNamePicture()
{
    return QPixmap(QStringLiteral(":/pictures/productname.png"));
}

} // namespace horalink
