/* Resource numbers shared by the resource script and the player's code. */
#pragma once

#define IDD_VIEW 1001
#define IDD_HEADER_BAR 1002
#define IDR_HAND_CURSOR 1003
