#pragma once
#include <QString>
#include "base/text.h"
#include "link/codec/field_type.h"
#include "data/remote/table_cache.h"
