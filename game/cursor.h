#pragma once
// The game's own cursor, steered by the mouse's motion from the screen centre.
void UpdateCursor(float speed);
int CursorDistance();  // from the face centre to the cursor tip, truncated
