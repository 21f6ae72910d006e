// The module libpla08000.so: its entry IniProcParam lives in FrmRetiradaGeral.cpp
// and is exported from the whole archive linked in.
#include "Pla08000/FrmRetiradaGeral.h"
