// Built-in themes of the skin library.
#pragma once

enum class TvelUIStyle { FromThemeFile, MacOS, WinXP, DeepBlue, Protein, BlueGlass };
