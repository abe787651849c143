-- description: Orders of a customer number, picked from the customers or typed (NSQLPICKW)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, order_date, status
FROM orders
WHERE customer_id = ?NSQLPICKW_Customer||"{SELECT id FROM customers ORDER BY id}"?
ORDER BY order_date
