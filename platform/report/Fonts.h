// The faces the layout names (宋体, 黑体, 华文新魏, MS Sans Serif), mapped
// to installed Debian faces of the same kind.  Left alone, fontconfig picks
// a Kai face for 宋体, which is wrong: a Song/Ming serif is meant.
#pragma once

namespace report {

// Installs the substitutions; call once, after the application exists.
void installFontSubstitutions();

}  // namespace report
