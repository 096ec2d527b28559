#include "cli/options.hpp"

namespace vedad {

void set_default_options(Options& options)
{
    options.output = "";
    options.html_input = 0;
    options.crop = 1;
    options.height = 480;
    options.overwrite = 0;
    options.transparent = 0;
    options.width = 640;
    options.silent = 0;
    options.verbose = 0;
    options.background = Rgb{0, 0, 0};
    options.foreground = Rgb{255, 255, 255};
}

}  // namespace vedad
