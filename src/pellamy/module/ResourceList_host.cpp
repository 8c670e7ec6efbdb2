// Where there is no Windows (the host tests) there is no program name to give as the source.
#include "ErrRecord.h"
#include "ResourceList.h"
#include "Texts.h"

namespace pellamy {

void RaiseSubscriptError() { RaiseError(errnum::SubscriptOutOfRange, {}, texts::SubscriptOutOfRange); }

}  // namespace pellamy
