// Ids of the shell dialogs: range 5000..5999.
#pragma once
