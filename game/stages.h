#pragma once
// Each stage's entry block and frame loop.
void RunStage0();  // title
void RunStage1();
void RunStage2();
void RunStage3();
void RunStage4();
void RunStage5();
void RunStage6();
void RunStage7();
void RunStage8();
void RunStage9();
void RunStage74();  // closing card
