#pragma once
// The hotkeys of the model panels, as Maya's defaults: Q, W, E, R pick the select,
// move, rotate and scale tools; F frames the selection and A everything; Ctrl+Z
// undoes and Ctrl+Shift+Z redoes; 4 and 5 show the panel as wireframe and shaded;
// the space bar switches between that panel alone and the four-view layout; F8
// toggles object and component selection and F11 selects faces.

class QKeyEvent;

namespace host {

// Handles a key pressed in a panel; false when it is no hotkey.
bool handlePanelHotkey(unsigned int panelIndex, QKeyEvent* event);

} // namespace host
