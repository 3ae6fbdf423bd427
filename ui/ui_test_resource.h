// Resources that only the UI tests link: a menu to pop up.
#pragma once

#define IDM_TEST_MENU 900
#define IDM_TEST_FIRST 901
#define IDM_TEST_SECOND 902
