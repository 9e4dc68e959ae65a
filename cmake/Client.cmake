# The client executable and its Qt layer are added here.
