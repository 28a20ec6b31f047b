// The library's exception class.
#pragma once
#include "forms/portable/exceptions.h"

namespace controls {

class EControlsException : public forms::Exception {
public:
    using forms::Exception::Exception;
};

}  // namespace controls
