#include <QString>
#include <QDialog>
#include "ui/base_window.h"
#include "ui/lookup_logic.h"
