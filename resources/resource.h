// Resource and control ids. Each subsystem has its own range and header.
#pragma once
#include "ids_app.h"
#include "ids_hotkeys.h"
#include "ids_crypto.h"
#include "ids_shell.h"
#include "ids_opendlg.h"
#include "ids_printing.h"
#include "ids_options.h"
#include "ids_mail.h"
#include "ids_markup.h"
