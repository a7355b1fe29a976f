#pragma once
// Yields to the browser until its next animation frame (requestAnimationFrame): the browser
// shows what was drawn, runs the page's events, and the game goes on in the frame's callback.
void WaitForAnimationFrame();
