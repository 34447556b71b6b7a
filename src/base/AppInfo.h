#pragma once

/// The program's name (application title, first part of every message box title) and version.
namespace contivo {
inline constexpr const char* kAppTitle = "Contivo";
inline constexpr const char* kAppVersion = "2.3.3";
}
