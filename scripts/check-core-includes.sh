#!/usr/bin/env bash
# Fails when a source file of the core (anything outside ui/ and platform/qt/) includes a
# QtWidgets or QtWebEngine header, or a header of the UI layer.
set -euo pipefail
src=${1:-"$(dirname "$0")/../src"}
hits=$(grep -rnE --include='*.h' --include='*.cpp' \
  '^\s*#\s*include\s*[<"](QtWidgets|QtWebEngine[A-Za-z]*|QWebEngine[A-Za-z]*|Q(Widget|MainWindow|Dialog|Application|Action|Menu|MenuBar|PushButton|Label|ComboBox|CheckBox|RadioButton|LineEdit|TreeView|TableView|HeaderView|StatusBar|MessageBox|FileDialog|Frame|Layout|HBoxLayout|VBoxLayout|GridLayout|AbstractItemView|ScrollBar|Splitter|ToolTip|Style)\b|[A-Za-z]+/ui/|platform/qt/)' \
  "$src" | grep -vE '^[^:]*/(ui|platform/qt)/|^[^:]*/main\.cpp:' || true)
if [ -n "$hits" ]; then
  echo "The core includes headers of the UI layer:"
  echo "$hits"
  exit 1
fi
echo "core includes: clean"
