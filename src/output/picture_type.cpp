#include "output/picture_type.hpp"

#include <cstring>
#include <strings.h>

#include "output/encode_gif.hpp"
#include "output/encode_webp.hpp"
#include "output/output_path.hpp"

namespace vedad {

PictureType picture_type(const Options& options)
{
    if (options.picture_type_given != 0) return options.picture_type;
    const char* output = options.output;
    if (output[0] == '\0' || std::strcmp(output, "-") == 0 || names_directory(output)) return PictureType::PNG;
    const char* name = basename(output);
    const char* dot = std::strrchr(name, '.');
    if (dot != nullptr && dot != name && strcasecmp(dot, ".webp") == 0) return PictureType::WEBP;
    if (dot != nullptr && dot != name && strcasecmp(dot, ".svg") == 0) return PictureType::SVG;
    if (dot != nullptr && dot != name && strcasecmp(dot, ".gif") == 0) return PictureType::GIF;
    return PictureType::PNG;
}

const char* picture_extension(PictureType type)
{
    if (type == PictureType::SVG) return ".svg";
    if (type == PictureType::GIF) return ".gif";
    return type == PictureType::WEBP ? ".webp" : ".png";
}

EncodedPicture encode_picture(const PictureArea& area, PictureType type)
{
    if (type == PictureType::GIF) return encode_gif(area);
    return type == PictureType::WEBP ? encode_webp(area) : encode_png(area);
}

}  // namespace vedad
