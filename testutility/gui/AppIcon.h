#pragma once

// The program's icon, drawn rather than shipped as a file.

#include <QIcon>

QIcon AppIcon();
