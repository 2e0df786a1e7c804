#pragma once

namespace chanwright {

// Status-bar hints that several pages show for the same kind of control, written once so the
// pages cannot drift apart.
inline constexpr char kCheckBoxHint[] = "[Space]:An effective and invalid change.";
inline constexpr char kChannelNameHint[] = "A maximum of 12 characters";
inline constexpr char kNineDigitHint[] = "Numeric Only. Indispensable 9 figures.";

}  // namespace chanwright
