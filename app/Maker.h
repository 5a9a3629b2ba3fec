#pragma once
// The maker's web domain: the sheet's footer names it and the About window links to it.

namespace pellacrest {

inline constexpr char16_t kWebDomain[] = u"www.pellacrest.example";

} // namespace pellacrest
