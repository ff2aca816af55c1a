// The GL half of the scene's set-up: the lights, then the music.
#include "app/Scene.h"
#include "scene/SceneDrawing.h"

void Scene::finishSetUp() {
    applyLights(lighting);
    startBackgroundMusic();
}
