// Everything of the application framework that window code uses: include this one header.
#pragma once
#include "framework/CString.h"
#include "framework/Types.h"
#include "framework/Object.h"
#include "framework/Wnd.h"
#include "framework/Gdi.h"
#include "framework/Controls.h"
#include "framework/Dialog.h"
#include "framework/Frame.h"
#include "framework/App.h"
#include "framework/FileDialog.h"
#include "framework/OleDateTime.h"
#include "framework/Seams.h"
