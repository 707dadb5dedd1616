#include "base/trace.h"
#include "trace_format.h"
  #  include "link/codec/frame.h"
