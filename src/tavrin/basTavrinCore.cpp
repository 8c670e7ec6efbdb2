// Placeholder unit until the editor's window-free logic lands.
