// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The controls the settings dialogs hold as members, declared once so that a form's header need
// not include their widgets; the form's source file includes the ones it builds.
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
class QTabWidget;
