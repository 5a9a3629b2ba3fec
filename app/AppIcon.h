#pragma once
#include <QIcon>

namespace pellacrest {

// The application icon in all its drawn sizes; Qt picks the one that suits each place.
inline QIcon applicationIcon()
{
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64, 96, 128, 256})
        icon.addFile(QStringLiteral(":/icons/pellacrest-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace pellacrest
