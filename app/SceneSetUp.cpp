// The GL half of the scene's set-up: the lights go on first, then the
// GL-free rest.
#include "app/Scene.h"
#include "scene/SceneDrawing.h"

void Scene::setUp() {
    applyLights(lighting);
    build();
}

void Scene::finishSetUp() {
    applyLights(lighting);
    startBackgroundMusic();
}
