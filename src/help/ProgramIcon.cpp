#include "help/ProgramIcon.h"

QIcon ProgramIcon()
{
    static const QIcon icon = [] {
        QIcon built;
        for (const int size : {16, 24, 32, 48, 64, 128, 256})
            built.addFile(QStringLiteral(":/icons/tessarine-%1.png").arg(size), QSize(size, size));
        return built;
    }();
    return icon;
}
