#pragma once

namespace vedad {

// The help text: name, version, notices, the usage text, home page and bug address.
void print_usage();

// The version text: name, version, notices and the libgd line.
void print_version();

// "gd version: N\n" with the libgd major version the program was built with. The text
// stays valid until the next call.
const char* gd_version_text();

// The usage text alone, as print_usage writes it.
const char* usage_text();

}  // namespace vedad
