#include "base/options.hpp"

namespace vedad {

void set_default_options(Options& options)
{
    options = Options{};
}

}  // namespace vedad
