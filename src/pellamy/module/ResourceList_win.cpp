// The error's source is the program, as the runtime names it.
#include "AppInfo.h"
#include "ErrRecord.h"
#include "ResourceList.h"
#include "Texts.h"

namespace pellamy {

void RaiseSubscriptError() { RaiseError(errnum::SubscriptOutOfRange, ExeName(), texts::SubscriptOutOfRange); }

}  // namespace pellamy
