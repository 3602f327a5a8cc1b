#pragma once

#include <stdexcept>

namespace rtu {

// A run-time error inside an action (a value a control does not accept, a number that
// cannot be converted). Program batches trap it, close the batch and report it.
class RuntimeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The serial adapter went away while a batch was running.
class PortLostError : public RuntimeError {
public:
    using RuntimeError::RuntimeError;
};

} // namespace rtu
