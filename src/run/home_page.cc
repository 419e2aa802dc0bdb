#include "run/home_page.h"

namespace doc {

TextView homePageWithoutScheme() {
  TextView address = homePageAddress;
  const size_t scheme = address.find("://");
  if (scheme != TextView::npos) address.remove_prefix(scheme + 3);
  return address;
}

TextView homePageHost() {
  const TextView address = homePageWithoutScheme();
  return address.substr(0, address.find('/'));
}

}  // namespace doc
