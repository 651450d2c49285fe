"""The generator's parts: the automaton model, the readers that make one, the passes over it and
the writers that turn it into a recognizer, a manual page, a diagram or a table again."""
