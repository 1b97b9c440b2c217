// The certificate and key the TLS front serves, PEM, built into the program from
// tests/fixtures/tls/ so that an installed quillreap-sample-sites needs no files beside it.
#pragma once

#include <string_view>

namespace quillreap::sample_sites {

std::string_view tls_certificate();
std::string_view tls_private_key();

}  // namespace quillreap::sample_sites
