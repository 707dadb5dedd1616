#include <QDialog>
#include "ui/base_window.h"
