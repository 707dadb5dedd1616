#include "app/client_state.h"

#include "app/connection_context.h"
#include "app/connection_module.h"
#include "app/user_rights.h"
#include "base/runtime.h"
#include "data/dataset_utils.h"
#include "data/remote/query_startup.h"
#include "link/client/application_hooks.h"

namespace mero::app {

void ResetClientState() {
  ResetConnectionContext();
  ResetUserRights();
  ResetConnectionModule();
  data::ResetQueryUtils();
  data::ResetDataSetUtils();
  link::ResetApplicationHooks();
  base::ResetRuntime();
}

}  // namespace mero::app
