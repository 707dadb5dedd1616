#include "link/client/socket.h"
#include "link/codec/frame.h"
#include "server/session.h"
#include "ui/login_dialog.h"
