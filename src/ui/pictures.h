#pragma once

#include <QPixmap>

namespace horalink {

// The splash picture: 340 x 243 pixels in 16 colours.
QPixmap splashPicture();
// The product name, drawn where the estimated wages would be while they are hidden.
QPixmap productNamePicture();

} // namespace horalink
