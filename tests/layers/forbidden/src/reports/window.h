#include "ui/base_window.h"
