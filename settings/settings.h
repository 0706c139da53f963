// Where the user's choices live: one section of one private settings file.
#pragma once

namespace Settings {

inline constexpr const char* kFileName = "vyla.ini";
inline constexpr const char* kSection = "options";
inline constexpr const char* kColor = "color";
inline constexpr const char* kSpeed = "speed";
inline constexpr const char* kGirls = "girls";
inline constexpr const char* kInterval = "interval";

}  // namespace Settings
