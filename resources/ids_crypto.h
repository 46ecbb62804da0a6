// Ids of the crypto dialogs: range 4000..4999.
#pragma once
