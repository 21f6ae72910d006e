#include "ui/Clipboard.h"

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}
