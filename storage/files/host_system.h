// The system whose path rules and folders apply: this one, or one a test names.
#pragma once

enum class HostSystem { Posix, Windows };

#ifdef _WIN32
inline constexpr HostSystem kThisSystem = HostSystem::Windows;
#else
inline constexpr HostSystem kThisSystem = HostSystem::Posix;
#endif
